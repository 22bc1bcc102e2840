// The website store, the data folder, the settings and the list files live in this folder.
