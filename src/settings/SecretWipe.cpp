#include "SecretWipe.h"

#include <string.h>

void WipeSecret(QString& secret) {
    if (secret.isDetached()) {
        // Up to the capacity: a shorter text may have followed a longer one in the buffer.
        secret.resize(secret.capacity());
        ::explicit_bzero(secret.data(), std::size_t(secret.size()) * sizeof(QChar));
    }
    secret = QString();
}

void WipeSecret(QByteArray& secret) {
    if (secret.isDetached()) {
        secret.resize(secret.capacity());
        ::explicit_bzero(secret.data(), std::size_t(secret.size()));
    }
    secret = QByteArray();
}

void WipeSecret(std::string& secret) {
    secret.resize(secret.capacity());
    ::explicit_bzero(secret.data(), secret.size());
    secret.clear();
    secret.shrink_to_fit();
}
