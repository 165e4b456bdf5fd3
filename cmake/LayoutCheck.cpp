// The whole of one folder's library is linked into this program with only the libraries the
// folder may use; a reference into any other folder leaves a symbol undefined.
int main()
{
    return 0;
}
