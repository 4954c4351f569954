#pragma once
// The common base of objects that a string list line may point at (a name
// list carries the entity behind each line). It owns nothing.

#include <brindle/brindle_core_export.h>

namespace brindle {

class BRINDLE_CORE_EXPORT TObject {
public:
    TObject() = default;
    TObject(const TObject&) = default;
    TObject& operator=(const TObject&) = default;
    virtual ~TObject();
};

} // namespace brindle
