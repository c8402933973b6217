// Shows the selection in cboKX.
