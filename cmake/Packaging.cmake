# Desktop integration and the Debian package are added here.
