zentul:
adn(install filler);
