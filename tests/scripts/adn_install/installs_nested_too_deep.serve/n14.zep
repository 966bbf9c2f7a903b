zentul:
adn(install n15);
