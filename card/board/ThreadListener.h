#pragma once

// Receives the readings a card's worker thread accepts, on that thread.
class ThreadListener {
public:
    virtual ~ThreadListener() = default;
    // reading: the byte of the controller's register 25, 0 to 255.
    virtual void notify(int reading) = 0;
};
