#pragma once

// Pemblon is built with hidden visibility; what it exports carries PBN_API.
#define PBN_API __attribute__((visibility("default")))
