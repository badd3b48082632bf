#pragma once

// Tolvane_model is built with hidden visibility; what it exports carries TVM_API.
#define TVM_API __attribute__((visibility("default")))
