// The portable holder: a std::unique_ptr whose deleter calls the function that releases the object.
// The deleter is empty, so the holder is the bare pointer and costs what the hand-written call costs
// (the setup builds without exceptions or RTTI).
#pragma once

#include <memory>

template <auto Release> struct ReleasedBy {
    template <class T> void operator()(T *object) const { Release(object); }
};

// Owned<PayloadInflater, DestroyPayloadInflater> inflater(CreatePayloadInflater());
template <class T, auto Release> using Owned = std::unique_ptr<T, ReleasedBy<Release>>;
