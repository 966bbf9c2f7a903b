zentul:
adn(install n14);
