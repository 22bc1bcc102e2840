# (the scheduling example checks)
