zentul:
adn(install n16);
