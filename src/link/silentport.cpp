#include "silentport.h"

bool SilentPort::open(int)
{
    if (m_open)
        return false;
    m_open = true;
    return true;
}

void SilentPort::close()
{
    m_open = false;
}
