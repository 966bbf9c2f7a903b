zentul:
adn(install n03);
