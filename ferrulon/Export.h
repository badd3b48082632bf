#pragma once

// Ferrulon is built with hidden visibility; what it exports carries FRX_API.
#define FRX_API __attribute__((visibility("default")))
