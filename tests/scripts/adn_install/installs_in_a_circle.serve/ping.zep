zentul:
adn(install pong);
print("ping done");
