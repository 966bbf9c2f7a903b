zentul:
adn(install n10);
