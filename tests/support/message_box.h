// Boxes and dialogs: part of the one harness header.
#include "support/test_support.h"
