// Entry point; the mode dispatch replaces this stub.
int main() { return 0; }
