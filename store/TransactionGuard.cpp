#include "TransactionGuard.h"

#include "Database.h"

TransactionGuard::TransactionGuard(Database *db) : m_db(db)
{
    m_db->begin();
}

TransactionGuard::~TransactionGuard()
{
    if (m_open)
        m_db->rollback();
}

void TransactionGuard::commit()
{
    m_db->commit();
    m_open = false;
}
