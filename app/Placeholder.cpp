// Removed once the frame exists.
