zentul:
adn(install n08);
