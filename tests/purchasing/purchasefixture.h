#pragma once
// The purchasing tests use the document tests' fixture.
#include "documentfixture.h"

namespace purchasetest = documenttest;
