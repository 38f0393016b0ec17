# Installing and packaging.
