#pragma once
// The event model shared by the core classes: assignable callbacks whose first argument
// is the object that raised them.

#include <functional>

class QString;

class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
// A caption generated from a colour may be replaced by the handler.
using TAutoCaptionEvent = std::function<void(TObject* Sender, QString& Caption)>;
