#pragma once
// Base of the program's frames: a one-time initialisation step and a close step
// that the owning base window calls while it closes.

#include <QFrame>

#include <utility>

/// A C++ constructor cannot call a derived class's override, so a frame is built
/// in two phases: construct it, then Initialise() once. Create() does both:
///
///     auto *grid = TBaseFrameVRQ_BaseForm::Create<TFrame_TimeTracker_Form>(this);
///
/// The owner (the parent widget) owns the frame. A frame built with plain `new`
/// must have Initialise() called by its owner right after construction.
class TBaseFrameVRQ_BaseForm : public QFrame
{
    Q_OBJECT

public:
    explicit TBaseFrameVRQ_BaseForm(QWidget *owner = nullptr);

    /// Constructs a frame of type T with its owner and runs its Initialise().
    template <class T, class... TArgs>
    static T *Create(QWidget *owner, TArgs &&...args)
    {
        auto *frame = new T(owner, std::forward<TArgs>(args)...);
        frame->Initialise();
        return frame;
    }

    /// One-time set-up that needs the complete object; nothing in the base.
    virtual void Initialise() {}
    /// Called by the owning base window while it closes; nothing in the base.
    virtual void FrameClose() {}
};
