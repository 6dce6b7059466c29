library(testthat)
library(trelba)

test_check("trelba")
