// Layer marker: the recent-files manager, colour and drop-down combo boxes live here.
