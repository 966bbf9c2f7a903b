zentul:
adn(install n02);
