"""Drives the real launcher under Xvfb and Wine: display, prefix, windows, input, pictures, text."""
