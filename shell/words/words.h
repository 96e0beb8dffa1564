#pragma once
// The words tables now live in words/; this forwarding header goes once no one includes it.
#include "words/words.h"
