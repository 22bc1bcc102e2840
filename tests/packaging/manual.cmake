# (the manual and completion checks)
