zentul:
adn(install n06);
