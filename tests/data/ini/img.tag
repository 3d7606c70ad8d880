[Attribute]
Attributes=3
1=src
3=alt
