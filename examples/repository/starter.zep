# starter: sets up a project with the other packages of this repository.
version: 0.3.0
zentul:
print("starter: installing what it needs");
adn(install greet);
adn(install colors);
print("starter: done");
