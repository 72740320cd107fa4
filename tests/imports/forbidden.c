/* A program that reaches the registry, the network and the file system: the import check must
   refuse it. */
#include <winsock2.h>
#include <windows.h>
#include <stdio.h>

int main(void) {
    HKEY key;
    RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &key);
    HANDLE file = CreateFileW(L"x", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written;
    WriteFile(file, "x", 1, &written, NULL);
    FILE* f = fopen("y", "w");
    fclose(f);
    return (int)socket(AF_INET, SOCK_STREAM, 0);
}
