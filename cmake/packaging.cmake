# Manual page and package.
