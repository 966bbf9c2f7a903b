zentul:
adn(install n12);
