zentul:
adn(install n07);
