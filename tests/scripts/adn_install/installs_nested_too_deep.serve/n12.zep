zentul:
adn(install n13);
