#pragma once

// Marks the module's entries that the host resolves by name; everything else stays hidden.
#define PLA_MODULE_EXPORT __attribute__((visibility("default")))
