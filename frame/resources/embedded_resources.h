// Resources embedded in the plug-in by builds without a resource compiler.
#pragma once

struct EmbeddedResource {
    const char* type;  // "#n" for the integer id n
    const char* name;
    const unsigned char* data;
    unsigned size;
};

extern const EmbeddedResource embeddedResources[];
extern const unsigned embeddedResourceCount;
