zentul:
adn(install n04);
