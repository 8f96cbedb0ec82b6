// Replaced by the builder library.
