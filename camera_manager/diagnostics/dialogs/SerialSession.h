#pragma once

// What the serial terminal runs while its dialog is open: the two ports with their reader
// threads and the file transfers. The dialog owns the session and hears from it through a
// listener, always on the GUI thread.
//
// The threads never call the listener: they post to the session (a wxEvtHandler), so every
// callback runs on the GUI thread while the session still exists. The destructor stops and
// joins all threads first; whatever they posted and has not run yet dies with the session.

#include "camera_manager/diagnostics/records/ReceiveDecoder.h"
#include "camera_manager/diagnostics/records/SerialTransfer.h"
#include "platform/win/SerialPort.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>
#include <wx/event.h>

class SerialSessionListener {
public:
    virtual ~SerialSessionListener() = default;
    // Text that arrived on a port.
    virtual void onReceived(int port, const std::u16string& text) = 0;
    // The port's line hung up, reached its end or failed: the session has closed the port.
    virtual void onPortLost(int port) = 0;
    virtual void onTransferProgress(int percent) = 0;
    virtual void onTransferReceived(uint64_t received) = 0;
    virtual void onTransferFinished(const SerialTransferResult& result) = 0;
};

class SerialSession : public wxEvtHandler {
public:
    static constexpr int PortCount = 2;

    explicit SerialSession(SerialSessionListener& listener);
    ~SerialSession() override;
    SerialSession(const SerialSession&) = delete;
    SerialSession& operator=(const SerialSession&) = delete;

    // Opens the port by its name with the baud text, purges it and starts its reader.
    bool connect(int port, const std::string& name, const std::string& baud);
    // Ends the reader, puts the settings back and closes; false when the close fails.
    bool disconnect(int port);
    bool connected(int port) const { return ports_[port].connected; }
    // Writes the bytes; false when the line takes them not.
    bool send(int port, const std::vector<uint8_t>& bytes);

    // A transfer per direction (0: COM1 to the camera port, 1: back).
    bool startTransfer(int direction, SerialTransferJob job);
    void stopTransfer(int direction) { transfers_[direction].stop(); }
    bool transferRunning(int direction) const { return transfers_[direction].running(); }

private:
    struct Port {
        win::SerialPort serial;
        bool connected = false;
        unsigned generation = 0; // counts connections, so a late report of an old one is dropped
        int stopEvent = -1;      // eventfd that ends the reader
        std::thread reader;
        ReceiveDecoder decoder;
    };

    void readLoop(int port, unsigned generation);
    void portLost(int port, unsigned generation);
    void closePort(Port& port);

    SerialSessionListener& listener_;
    Port ports_[PortCount];
    SerialTransfer transfers_[2];
};
