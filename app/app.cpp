// Layer marker: the main window lives here.
