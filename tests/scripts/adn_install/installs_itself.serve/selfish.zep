zentul:
adn(install selfish);
print("selfish code goes on");
