shader
{
	code = "#version 120
"
}
