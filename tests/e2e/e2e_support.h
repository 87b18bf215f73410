// The end-to-end part of the harness (a private copy of Corvanta.exe, started) lies in support/test_support.h.
#include "support/test_support.h"
