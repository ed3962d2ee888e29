"""What the end-to-end tests and the benchmarks share: an X session through Xlib, the programs around the
shell (Xvfb, tray host, window manager, demo portal), process groups and trees, and waiting."""
