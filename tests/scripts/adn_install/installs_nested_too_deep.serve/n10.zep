zentul:
adn(install n11);
