zentul:
adn(install n18);
