// Owners of settings objects receive their change notices through this.
//
// Protocol: a settings object stores a value only when it differs from the
// stored one and then calls Changed() on its owner (if it has one). The owner
// outlives the settings object it owns.
#pragma once

class TChangeSink {
public:
    virtual void Changed() = 0;

protected:
    ~TChangeSink() = default;
};

// Stores v in field and notifies sink when they differ. Answers whether it did.
template <class T> bool SetAndNotify(T& field, const T& v, TChangeSink* sink)
{
    if (field == v)
        return false;
    field = v;
    if (sink)
        sink->Changed();
    return true;
}
