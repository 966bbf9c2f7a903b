zentul:
adn(install ping);
print("pong done");
