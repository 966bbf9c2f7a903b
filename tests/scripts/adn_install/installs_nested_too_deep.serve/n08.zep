zentul:
adn(install n09);
