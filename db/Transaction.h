#pragma once

class Database;

// A transaction that ends with its scope: begun by the constructor, rolled
// back by the destructor unless commit() succeeded first.
class Transaction {
public:
    enum class Lock { Deferred, Write };
    // Lock::Write: see Database::beginWriteTransaction.
    explicit Transaction(Database& database, Lock lock = Lock::Deferred);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // False when the transaction could not begin (the reason is in the
    // Database's lastErrorText); commit() then fails too.
    bool isActive() const { return active_; }
    // A failed commit leaves the transaction to the destructor's rollback.
    bool commit();

private:
    Database& database_;
    bool active_ = false;
};
