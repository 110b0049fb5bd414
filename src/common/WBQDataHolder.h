#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

// Carries a reference to an object it does not own, for APIs that pass one object along. The reference
// becomes null when the object is destroyed, so a holder that outlives its object never dangles.
class WBQDataHolder {
public:
    explicit WBQDataHolder(QObject* data = nullptr) : m_data(data) {}

    static std::unique_ptr<WBQDataHolder> dataHolderWithData(QObject* data)
    {
        return std::make_unique<WBQDataHolder>(data);
    }

    QObject* data() const { return m_data; }
    void setData(QObject* data) { m_data = data; }

private:
    QPointer<QObject> m_data;
};
