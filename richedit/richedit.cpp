// Layer marker: the editor control and its parts live here.
