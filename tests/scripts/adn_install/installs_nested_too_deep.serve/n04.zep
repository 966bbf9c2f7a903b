zentul:
adn(install n05);
