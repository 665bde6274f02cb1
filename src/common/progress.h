#pragma once
// Progress of a long operation (imports, searches): the logic reports how
// far it is and asks whether the operator pressed cancel. The main window's
// progress panel implements it; asking lets pending window events run.

namespace torvika {

class Progress {
public:
    virtual ~Progress() = default;
    virtual void start(int maximum) = 0;
    virtual void setValue(int value) = 0;
    virtual bool cancelled() = 0;
    virtual void finish() = 0;
};

// For callers that run without a window.
class NoProgress : public Progress {
public:
    void start(int) override {}
    void setValue(int) override {}
    bool cancelled() override { return false; }
    void finish() override {}
};

} // namespace torvika
