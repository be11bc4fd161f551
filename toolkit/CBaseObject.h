#pragma once

#include <cstdint>

namespace Toolkit {

// Root of every toolkit object: an intrusive reference count that starts at 1. Whoever creates an
// object owns that first reference and hands it over or gives it up with release().
class CBaseObject {
public:
    CBaseObject() = default;
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;
    virtual ~CBaseObject() = default;

    // Drops one reference; the object destroys itself when the count reaches 0.
    virtual void release();
    virtual void retain();
    // Answers a message sent by another object; 0 means "not handled".
    virtual int32_t notify(CBaseObject* sender, const char* message);

    int32_t referenceCount() const { return references; }

private:
    int32_t references = 1;
};

}  // namespace Toolkit
