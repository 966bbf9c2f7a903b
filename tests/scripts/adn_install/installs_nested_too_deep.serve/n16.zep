zentul:
adn(install n17);
