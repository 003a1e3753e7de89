// Keeps the results library non-empty while its first sources arrive.
